#pragma once

namespace zarvo {

/// Réponse de l'utilisateur à une boîte de message.
enum class Reponse { Ok, Oui, Non, Annuler };

/// Boutons proposés par une boîte de message.
enum class Boutons { Ok, OuiNon, OuiNonAnnuler };

} // namespace zarvo
